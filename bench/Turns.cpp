#include "Turns.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace mw::bench {

std::vector<std::vector<double>> TakeTurns(int rounds,
                                           const std::vector<std::function<double()>>& contenders) {
    std::vector<std::vector<double>> samples(contenders.size());
    for (int round = 0; round < std::max(rounds, LeastRounds); ++round)
        for (size_t i = 0; i < contenders.size(); ++i)
            samples[i].push_back(contenders[i]());
    return samples;
}

double Median(std::vector<double> values) {
    if (values.empty()) throw std::runtime_error("no samples");
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double RatioFigure(const std::string& name, const std::vector<double>& ours,
                   const std::vector<double>& anchor) {
    if (ours.size() != anchor.size()) throw std::runtime_error(name + ": rounds differ");
    std::vector<double> ratios;
    for (size_t i = 0; i < ours.size(); ++i)
        ratios.push_back(ours[i] / anchor[i]);
    const auto [least, most] = std::minmax_element(ratios.begin(), ratios.end());
    const double median = Median(ratios);
    std::printf("%s: %.3f (%.3f..%.3f)\n", name.c_str(), median, *least, *most);
    return median;
}

} // namespace mw::bench
