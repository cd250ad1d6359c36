#pragma once

#define WIN32_API __attribute__((visibility("default")))
