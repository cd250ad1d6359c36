#pragma once

#define MFC_API __attribute__((visibility("default")))
