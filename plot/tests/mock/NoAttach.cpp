// A plug-in that lacks the Attach entry.
extern "C" __attribute__((visibility("default"))) int NotAnAttachEntry() {
    return 0;
}
