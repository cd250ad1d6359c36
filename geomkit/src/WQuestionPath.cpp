#include "geomkit/WQuestionPath.h"

WQuestionPath::~WQuestionPath() = default;
