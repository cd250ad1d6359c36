#include "geomkit/KArchive.h"

KArchive::~KArchive() = default;
