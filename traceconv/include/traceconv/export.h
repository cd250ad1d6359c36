#pragma once

#define TRACECONV_API __attribute__((visibility("default")))
