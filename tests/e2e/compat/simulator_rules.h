// The platform's rules that the simulator keeps, checked on the real system (simulator_rules.cpp).
#pragma once

typedef void (*CheckFunction)(bool ok, const char* what);

void checkSimulatorRules(CheckFunction check);
