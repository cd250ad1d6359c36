#include "app/SignDocument.h"

IMPLEMENT_DYNCREATE(SignDocument, COleSheetDoc)

SignDocument::~SignDocument() = default;
