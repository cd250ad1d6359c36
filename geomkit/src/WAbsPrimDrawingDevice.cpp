#include "geomkit/WAbsPrimDrawingDevice.h"

WAbsPrimDrawingDevice::~WAbsPrimDrawingDevice() = default;
