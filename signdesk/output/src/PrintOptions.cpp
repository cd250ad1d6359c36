#include "output/PrintOptions.h"

PrintOptions& ThePrintOptions() {
    static PrintOptions options;
    return options;
}
