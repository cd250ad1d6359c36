#pragma once

#define GEOMKIT_API __attribute__((visibility("default")))
