// The generated project the throughput benchmarks share: 4 layers of 1000 x 1000 cells with 500
// instance entities and 50 paths of 10 points each per layer.
#pragma once

#include "model/project.h"

namespace zorva::bench {

inline constexpr int kLayers = 4;
inline constexpr int kSide = 1000;
inline constexpr int kEntitiesPerLayer = 500;
inline constexpr int kPathsPerLayer = 50;
inline constexpr int kPointsPerPath = 10;

zorva::Project make_big_project();

}  // namespace zorva::bench
