#pragma once

#include "labels/LabelArticles.h"
#include "labels/LabelLayout.h"

#include <QString>

#include <vector>

// Writes the label sheets of the sequence as a PDF file at path: in full to
// a temporary file beside it, then renamed over it, so a failure leaves no
// file or part of one (an old file stays as it was). Throws FileError when
// the file cannot be written; returns why the pages could not be drawn, or
// empty.
QString WriteLabelsPdf(const QString& path, const LabelLayout& layout, const std::vector<LabelArticle>& sequence);

// The PDF as bytes (for a caller that writes it itself).
QString LabelsPdfBytes(const LabelLayout& layout, const std::vector<LabelArticle>& sequence, QByteArray& bytes);
