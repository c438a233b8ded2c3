#pragma once

#include "core/FileDialogService.h"

// Shows each request in a modal QFileDialog over its owner.
class QtFileDialogService : public FileDialogService
{
public:
    FileDialogAnswer ask(const FileDialogRequest &request) override;
};
