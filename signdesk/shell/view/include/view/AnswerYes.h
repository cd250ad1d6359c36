#pragma once
// The view's shared answer to questions that it always answers yes (1).

#include <win32/base.h>

BOOL AnswerYes();
