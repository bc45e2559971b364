#include "reference_host/host_program.h"

int main(int argc, char** argv) { return runHost(argc, argv); }
