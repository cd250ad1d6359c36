#pragma once

#define PLOT_API __attribute__((visibility("default")))
