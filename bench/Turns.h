#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mw::bench {

// A busy machine slows one run and not the next, so a ratio is measured in turns: each round
// runs every contender once, in the same order, and the ratio is taken within the round.
constexpr int LeastRounds = 5;

// Runs the contenders (each returns its own seconds) `rounds` times in turn, at least
// LeastRounds; the samples come back per contender, in the order given.
std::vector<std::vector<double>> TakeTurns(int rounds,
                                           const std::vector<std::function<double()>>& contenders);

double Median(std::vector<double> values);

// Prints "name: median (min..max)" of the ratios ours[i] / anchor[i] of the rounds; the median
// comes back.
double RatioFigure(const std::string& name, const std::vector<double>& ours,
                   const std::vector<double>& anchor);

} // namespace mw::bench
