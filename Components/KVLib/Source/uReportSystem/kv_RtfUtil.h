#pragma once
// The two steps by which a template hands its values to the RTF engine.

#include <QString>
#include <vector>

#include "platform/core/Variant.h"

namespace data {
class Dataset;
}
namespace rtf {
class Engine;
}

namespace ReportSys {

// Adds the value as a text variable (the rules of ReportParameters::addParam), unless the engine already
// holds a variable of that name.
void addRtfVar(rtf::Engine& engine, const QString& name, const core::Variant& value);

// Fills the template with the datasets as tables (known by their component names, their display texts
// as a grid shows them), writes the output file and, with the open flag, opens it. Returns the output
// file name.
QString executeRtf(rtf::Engine& engine, const std::vector<data::Dataset*>& datasets, bool open);

}  // namespace ReportSys
