#pragma once
#include "pathkit/ClassicNumbers.h"
