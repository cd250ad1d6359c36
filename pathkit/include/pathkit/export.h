#pragma once

#define PATHKIT_API __attribute__((visibility("default")))
