#pragma once

// The three typed fields of the main window hold what fieldtext.h says
// however their text arrives; this gives a line edit that rule.

class QLineEdit;

// Makes `edit` a field of that kind: at most FieldTextLimit characters
// (typing and pasting stop there), and a line break turned into a space on
// every way in.
void MakeSingleLineField(QLineEdit &edit);
