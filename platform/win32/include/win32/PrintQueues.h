#pragma once
// The system's print queues as the drawing layer's printer contexts need them: a queue's
// media and resolution, and handing it a finished document. The print service is CUPS,
// reached through libcups at the server CUPS_SERVER names (else the client's own setting),
// with the spooler's time-out (win32/SpoolerTesting.h). Failures set the last error and
// the service's reason (SdGetLastErrorText).

#include "win32/base.h"
#include "win32/kernel.h"

struct SdQueueMedia {
    // Hundredths of a millimetre: the sheet and the unprintable strips along its edges.
    int width = 0;
    int length = 0;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int dpiX = 0; // 0 when the queue does not tell its resolution
    int dpiY = 0;
};

// The queue's media of the given size (hundredths of a millimetre) when both are positive
// and the queue knows it, else its default media. FALSE with ERROR_INVALID_PRINTER_NAME for
// a queue the service does not know, ERROR_NOT_FOUND when it tells no media at all, and
// ERROR_WRITE_FAULT when the service cannot be reached.
WIN32_API BOOL SdDescribeQueue(LPCSTR queue, int width, int length, SdQueueMedia* media);

// Queues the file as one job of the MIME type ("application/pdf") under the title (ANSI
// text); the service's job id, or 0 with ERROR_WRITE_FAULT when it did not take the job.
WIN32_API DWORD SdSubmitQueueFile(LPCSTR queue, LPCSTR title, LPCSTR file, LPCSTR mimeType);
