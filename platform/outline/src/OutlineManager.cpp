// The module's entry points: the parameters' constructor and the manager.

#include "outline/OutlineManager.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "OutlineEngine.h"
#include "pathkit/BezRecordFile.h"
#include "pathkit/Exceptions.h"
#include "pathkit/Path.h"

namespace {

constexpr float DefaultLimitAngle = 60;
constexpr float DefaultAccuracy = 0.01f;

// Creates or truncates the file; false when it cannot be.
bool Truncate(const char* fileName) {
    std::FILE* f = std::fopen(fileName, "wb");
    if (!f) return false;
    return std::fclose(f) == 0;
}

class OutlineManager final : public TAbsOutlineManager {
public:
    int GetVersion() override { return OutlineInterfaceVersion; }

    int Outline(const char* inputFile, const char* outputFile, TBaseOutlineParams* params,
                void* /*reserved*/) override {
        // The output holds no records until the result is complete.
        if (!outputFile || !Truncate(outputFile)) return 3;
        if (!inputFile || !params) return 1;
        float distance = params->distance;
        if (!std::isfinite(distance) || distance < 0 || distance > OutlineEngine::MaxDistance)
            return 1;

        OutlineSettings settings;
        settings.distance = params->side ? -double(distance) : double(distance);
        settings.mode = params->mode;
        settings.limitAngle = params->limitAngle;
        settings.accuracy = params->accuracy > 0 && std::isfinite(params->accuracy)
                                ? params->accuracy
                                : DefaultAccuracy;
        try {
            Path source(settings.accuracy);
            ReadBezFile(inputFile, source, 1, 1);
            Path result(settings.accuracy);
            OutlineEngine(settings).Run(source, result);
            if (WriteBezFile(outputFile, result, 1, 1) != 0) {
                Truncate(outputFile);
                return 3;
            }
        } catch (const RuntimeError&) {
            return 2;
        } catch (const std::bad_alloc&) {
            return 2;
        }
        return 0;
    }
};

OutlineManager theManager;

} // namespace

TBaseOutlineParams::TBaseOutlineParams()
    : reserved(0), mode(OUTLINE_ROUND), side(0), distance(0), limitAngle(DefaultLimitAngle),
      accuracy(DefaultAccuracy) {}

TAbsOutlineManager* GetOutlineManager() {
    return &theManager;
}
