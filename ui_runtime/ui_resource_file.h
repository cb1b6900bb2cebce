#pragma once
// The UI resource as the panel layer finds it: carried inside the program as a
// Qt resource, or a file on disk.

#include "ui_files/ui_resource.h"

// Reads a resource carried inside the program (":/name"), or else the file of that name.
std::optional<UIResource> load_ui_resource(const char* name, const UIApplication& application,
                                           std::string* error);
