// Dash lists: which positions along a line are drawn.
#include "raster_dashes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelplat::gdi::raster {

DashList::DashList(const std::vector<uint32_t>& entries) {
  std::vector<int64_t> list(entries.begin(), entries.end());
  if (list.size() % 2) list.insert(list.end(), entries.begin(), entries.end());
  int64_t position = 0;
  for (size_t i = 0; i + 1 < list.size(); i += 2) {
    dash_start_.push_back(position);
    dash_length_.push_back(list[i]);
    position += list[i] + list[i + 1];
  }
  period_ = position;
  if (period_ == 0) {
    dash_start_.clear();
    dash_length_.clear();
    return;
  }
  // Thin runs: a dash entry of n covers n + 1 pixels; the last may wrap.
  std::vector<std::pair<int64_t, int64_t>> runs;
  for (size_t k = 0; k < dash_start_.size(); k++) {
    int64_t end = dash_start_[k] + dash_length_[k] + 1;
    runs.emplace_back(dash_start_[k], std::min(end, period_));
    if (end > period_) runs.emplace_back(0, end - period_);
  }
  std::sort(runs.begin(), runs.end());
  for (const auto& run : runs) {
    if (!thin_on_.empty() && run.first <= thin_on_.back().second) {
      thin_on_.back().second = std::max(thin_on_.back().second, run.second);
    } else {
      thin_on_.push_back(run);
    }
  }
  if (thin_on_.size() == 1 && thin_on_[0].first == 0 && thin_on_[0].second >= period_) {
    thin_on_.clear();
  }
}

int64_t DashList::wrap(int64_t position) const {
  int64_t p = position % period_;
  return p < 0 ? p + period_ : p;
}

bool DashList::thin_on(int64_t position) const {
  if (thin_solid()) return true;
  int64_t p = wrap(position);
  for (const auto& run : thin_on_) {
    if (p < run.first) return false;
    if (p < run.second) return true;
  }
  return false;
}

int64_t DashList::thin_next_change(int64_t position) const {
  if (thin_solid()) return std::numeric_limits<int64_t>::max();
  int64_t p = wrap(position);
  for (const auto& run : thin_on_) {
    if (p < run.first) return position + (run.first - p);
    if (p < run.second) return position + (run.second - p);
  }
  return position + (period_ - p) + thin_on_[0].first;
}

bool DashList::wide_solid(double half_width) const {
  if (period_ == 0) return true;
  for (size_t k = 0; k < dash_start_.size(); k++) {
    int64_t next = k + 1 < dash_start_.size() ? dash_start_[k + 1] : period_;
    double gap = double(next - dash_start_[k] - dash_length_[k]);
    if (gap > 2 * half_width) return false;
  }
  return true;
}

bool DashList::wide_covers(double half_width, double position) const {
  if (wide_solid(half_width)) return true;
  const double period = double(period_);
  double p = std::fmod(position, period);
  if (p < 0) p += period;
  for (double n = -1; n <= 1; n++) {
    for (size_t k = 0; k < dash_start_.size(); k++) {
      double s = n * period + double(dash_start_[k]) - half_width;
      double e = n * period + double(dash_start_[k] + dash_length_[k]) + half_width;
      if (s < p && p < e) return true;
    }
  }
  return false;
}

void DashList::wide_stretches(double half_width, double lo, double hi,
                              const std::function<void(double, double)>& out) const {
  if (wide_solid(half_width)) {
    out(lo, hi);
    return;
  }
  const double period = double(period_);
  double first = std::floor((lo - half_width) / period) - 1;
  double last = std::floor((hi + half_width) / period);
  bool open = false;
  double start = 0, end = 0;
  auto emit = [&] { out(std::max(start, lo), std::min(end, hi)); };
  for (double n = first; n <= last; n++) {
    for (size_t k = 0; k < dash_start_.size(); k++) {
      double s = n * period + double(dash_start_[k]) - half_width;
      double e = n * period + double(dash_start_[k] + dash_length_[k]) + half_width;
      if (e < lo || s > hi) continue;
      if (open && s <= end) {
        end = std::max(end, e);
        continue;
      }
      if (open) emit();
      open = true;
      start = s;
      end = e;
    }
  }
  if (open) emit();
}

DashWalker::DashWalker(const DashList& dashes, int64_t position)
    : dashes_(dashes), position_(position) {
  reset();
}

void DashWalker::reset() {
  on_ = dashes_.thin_on(position_);
  change_ = dashes_.thin_next_change(position_);
}

}  // namespace kelplat::gdi::raster
