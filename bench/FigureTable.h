#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// One measured figure of one run: seconds for times, bytes for sizes.
struct Figure {
    std::string name;
    double value;
};

// Gathers the figures of several runs over one database and prints their
// medians beside the floors they are judged against. It only reports:
// nothing here passes or fails.
class FigureTable {
public:
    void add(const Figure& figure);
    // Reads the "name value" lines that the runs wrote; false when the file
    // cannot be read.
    bool read(const std::string& path);
    // Appends the figures as "name value" lines; false when that fails.
    static bool write(const std::string& path, const std::vector<Figure>& figures);

    // The median of a figure over the runs; 0 when it was never measured.
    double median(const std::string& name) const;
    int runs() const;
    void print(std::FILE* out) const;

private:
    std::map<std::string, std::vector<double>> samples_;
};

double medianOf(std::vector<double> values);
