// Elementary functions whose results are the same bit for bit on every build of the module
// (64-bit, 32-bit x86, Windows): the C libraries' own cos, atan2 and pow differ between them in
// the last bits, so the module computes these itself from +, −, ×, ÷ and square root alone.
#pragma once

double detCos(double x);
double detAtan2(double y, double x);
double detPow(double x, double y);
