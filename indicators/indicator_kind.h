// The four quantities the indicator shows, in their order of preference and rotation.
#pragma once

enum IndicatorKind { Battery = 0, ProgramMemory = 1, MainStorage = 2, StorageCard = 3 };

constexpr int IndicatorKindCount = 4;
