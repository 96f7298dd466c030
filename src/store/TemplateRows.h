#pragma once

#include <cstdint>

namespace mw {

class Connection;
class CTempBlock;
class CTempIndex;

// Makes the template's index row the current row of TempIndex (filtered on it); fails with the
// no-current-row error, naming the id, when no template has it.
void RequireTemplate(CTempIndex& TempIndex, std::int32_t id);

// Removes a template: its blocks and its index row, together or not at all.
void DeleteTemplate(Connection& cnTemplates, CTempIndex& TempIndex, CTempBlock& TempBlock,
                    std::int32_t id);

} // namespace mw
