#pragma once

#include "files/file_progress.h"
#include "presentation/measurement_table.h"

// A reading lands in the table at every progress report of a save, as readings do while the
// window waits for a long save: the save must leave them for the next one.
struct ReadingsArrive : FileProgress {
    MeasurementTable& table;
    explicit ReadingsArrive(MeasurementTable& t) : table(t) {}
    void advance(qint64, qint64) override {
        table.grid_add_row("late", "9", "DCV", "", "", "", "");
    }
};
