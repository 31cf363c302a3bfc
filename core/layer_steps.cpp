// The table of the layers' start-up and shut-down steps (see layer_steps.h).
#include "core/layer_steps.h"

#include <array>
#include <cstddef>

namespace {

// Constant-initialised, so that a layer may install its steps from any
// file's initialisation.
constinit std::array<LibraryLayerSteps, static_cast<std::size_t>(LibraryLayer::kCount)> gLayerSteps{};

} // namespace

void LibraryLayerStepsSet(LibraryLayer layer, const LibraryLayerSteps& steps)
{
    auto slot = static_cast<std::size_t>(layer);
    if (slot < gLayerSteps.size())
        gLayerSteps[slot] = steps;
}

void LibraryLayerStepsRun(LibraryLayerStep LibraryLayerSteps::*member)
{
    for (const LibraryLayerSteps& steps : gLayerSteps)
        if (steps.*member)
            (steps.*member)();
}

void LibraryLayerConfigure(const ConfigSettings& settings)
{
    for (const LibraryLayerSteps& steps : gLayerSteps)
        if (steps.configure)
            steps.configure(settings);
}

void LibraryLayerWindowClosed(int window)
{
    for (const LibraryLayerSteps& steps : gLayerSteps)
        if (steps.windowClosed)
            steps.windowClosed(window);
}
