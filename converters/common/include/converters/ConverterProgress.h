#pragma once
// The progress calls of the converters: the whole percent of the source read, and the poll.
// The conversion runs to its end whatever the handler does: a handler that throws to cancel
// is heard and ignored, so that no exception leaves a plug-in.

#include "pathkit/AbortHandler.h"

class ConverterProgress {
public:
    ConverterProgress(AbortHandler* handler, long size) : handler_(handler), size_(size) {}

    // Whole percent of the source read at the position (0 for an empty source).
    int Percent(long position) const {
        if (size_ <= 0 || position <= 0) return 0;
        return int(double(position) * 100.0 / double(size_));
    }

    void SetProgress(long position) {
        if (!handler_) return;
        try {
            handler_->SetProgress(float(Percent(position)));
        } catch (...) {
        }
    }

    void CheckAbort() {
        if (!handler_) return;
        try {
            handler_->CheckAbort();
        } catch (...) {
        }
    }

    // SetProgress when the whole percent changed since the last report (the first report
    // always), then CheckAbort.
    void ReportChange(long position, bool pollAlways = true) {
        if (!handler_) return;
        int percent = Percent(position);
        bool changed = percent != last_;
        if (changed) {
            last_ = percent;
            SetProgress(position);
        }
        if (changed || pollAlways) CheckAbort();
    }

private:
    AbortHandler* handler_;
    long size_;
    int last_ = -1;
};

// The entry every converter plug-in exports, and its only export.
#define CONVERTER_ENTRY extern "C" __attribute__((visibility("default")))
