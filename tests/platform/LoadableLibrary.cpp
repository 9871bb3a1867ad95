// A library the loader tests load by name.
extern "C" __attribute__((visibility("default"))) int FonexaLoadableAnswer() { return 42; }
