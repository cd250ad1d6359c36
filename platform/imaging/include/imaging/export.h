#pragma once
#define IMAGING_API __attribute__((visibility("default")))
