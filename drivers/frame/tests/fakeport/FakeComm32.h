#pragma once
// Control entries of the scripted port library that the frame tests load in place of COMM32.

extern "C" {
// Forgets everything and returns to: every byte taken, ready at once, no reply.
using FakePortResetProc = void (*)();
// Bytes taken per BufferedTransmit call (0 takes nothing, -1 fails); polls of
// IsTransmissionReady before it answers ready (-1 never); whether OpenCommunication fails.
using FakePortConfigureProc = void (*)(int acceptPerCall, int readyAfter, int failOpen);
// The reply that Receive hands out, at most chunk bytes a call.
using FakePortSetReplyProc = void (*)(const char* data, int length, int chunk);
// Copies what was written (at most size bytes) and returns its full length.
using FakePortWrittenProc = int (*)(char* buffer, int size);
// Opens so far; the section of the last open; the mode of the last transmit.
using FakePortOpenCountProc = int (*)();
using FakePortLastSectionProc = const char* (*)();
using FakePortLastModeProc = int (*)();
using FakePortIsOpenProc = int (*)();
// What GetCommunicationError reports after a failed open.
using FakePortSetErrorProc = void (*)(const char* text);
}
