#pragma once

#include "labels/LabelLayout.h"

#include <QString>

class SettingsFile;

// Which articles get labels.
enum class LabelRows { Selected, Shown, Department, All, Changed };

// The choices of the last labels printed, kept in section [Labels] of the
// settings file.
struct LabelOptions
{
    LabelLayout layout = NamedLayouts().front();
    int copies = 1;
    int skip = 0;
    QString currency;
    LabelRows rows = LabelRows::All;
    int department = 1;
};

// What the file holds; a missing or unusable value reads as its default (the
// currency's is DefaultCurrency()).
LabelOptions ReadLabelOptions(const SettingsFile& settings);
// Throws SettingsWriteError when the file cannot be written.
void WriteLabelOptions(SettingsFile& settings, const LabelOptions& options);

QString LabelRowsKey(LabelRows rows);
