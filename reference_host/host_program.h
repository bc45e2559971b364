// kavelmor-host from start to finish: command line, scene, module, render, picture. Every failure
// ends with a message on standard error and a non-zero result, never a crash.
#pragma once

int runHost(int argc, char** argv);
