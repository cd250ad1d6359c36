#include "geomkit/WInterruptHandler.h"

WInterruptHandler::~WInterruptHandler() = default;
