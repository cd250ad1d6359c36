#pragma once
// Fixture of the plug-in tests: cutdrv-coral loaded as the plot library loads it.

#include "PluginTest.h"

class CoralTest : public PluginTest {
protected:
    CoralTest() : PluginTest("cutdrv-coral.dll") {}
};
