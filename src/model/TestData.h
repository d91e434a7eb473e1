#pragma once

class RecyTable;
class TextTable;

// Fills the three tables with generated, recognisable values that pass every
// cell check, so a complete set can be sent to a register without typing.
// Overwrites without asking; the document's modified flag is not touched.
void FillTestData(TextTable& plu, TextTable& dept, RecyTable& recy);
