#pragma once

#include <cstddef>
#include <vector>

// The Y values of one chart line. A point's X is its position in the line, so only Y is kept.
// The window keeps the values in the plotting component's own storage, so that a point is
// stored exactly once; headless code and tests keep them in a plain vector.
class SeriesValues {
public:
    virtual ~SeriesValues() = default;
    virtual std::size_t size() const = 0;
    virtual double at(std::size_t i) const = 0;
    // Adds a point with X equal to the number of points held before it.
    virtual void append(double y) = 0;
    virtual void clear() = 0;
};

class VectorSeriesValues final : public SeriesValues {
public:
    std::size_t size() const override { return values_.size(); }
    double at(std::size_t i) const override { return values_[i]; }
    void append(double y) override { values_.push_back(y); }
    void clear() override { std::vector<double>().swap(values_); }

private:
    std::vector<double> values_;
};
