#pragma once

#define RASTERKIT_API __attribute__((visibility("default")))
