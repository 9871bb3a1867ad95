// Plug-ins that break the contract: one without its export, one whose export
// hands out no device.
class CMxGsmDevice;

#ifndef WITHOUT_FACTORY
extern "C" __attribute__((visibility("default"))) CMxGsmDevice* GetGsmDevice() { return nullptr; }
#else
extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 1; }
#endif
