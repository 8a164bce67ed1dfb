#pragma once

// The whole-configuration transfer: Upload reads the connected module's configuration into the
// model and shows it; Download writes the model into the module, checking every echo.

// Module to model: the identity, the kind, the panel and the configuration of the kind.
void ConfigUpload();

// Model to module, after the user confirms. A failure is told and ends the download; the program
// and its configuration stay as they were.
void ConfigDownload();
