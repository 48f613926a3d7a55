#pragma once

// A value of the settings file as the operator typed it in a text editor.
//
// The settings library takes an unquoted value with a comma in it for a
// list, and the spaces around each comma are gone by the time it is a list
// ("hello, world" and "hello ,world" give the same two items). Only the line
// in the file still tells what was written.

#include <QByteArrayView>
#include <QString>

#include <optional>

// The text after "key=" in the [section] of an ini file's bytes, with the
// spaces and tabs around it dropped, as the settings library drops them. No
// value when the key is not there, or when its text is quoted or escaped:
// then it is no hand-written plain text, and the library's reading stands.
[[nodiscard]] std::optional<QString> HandWrittenValue(QByteArrayView fileBytes,
                                                      QByteArrayView section, QByteArrayView key);
