#include "monitor/LaptopPanelBackend.h"

#include "simulator/SimulatedLaptopPanel.h"
#include "monitor/WmiLaptopPanel.h"

std::unique_ptr<LaptopPanelBackend> CreateLaptopPanelBackend() {
    if (std::unique_ptr<LaptopPanelBackend> simulated = CreateSimulatedLaptopPanelBackend()) {
        return simulated;
    }
    return std::make_unique<WmiLaptopPanel>();
}
