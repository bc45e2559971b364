// A shared library that loads but exports no "_mod_descrip": the host must refuse it.
extern "C" __attribute__((visibility("default"))) int notADescriptor() { return 1; }
