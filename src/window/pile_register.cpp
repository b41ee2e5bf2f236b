#include "window/pile_register.h"

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora {

namespace {

void Check(int row, int field) {
    if (row < 0 || row >= kRegisterRows || field < 0 || field >= kRegisterFields) {
        Fail(status::kSubscriptOutOfRange, "register row " + std::to_string(row));
    }
}

}  // namespace

const std::string& RegisterField(const PileRegister& pileRegister, int row, int field) {
    Check(row, field);
    return pileRegister.rows[row][field];
}

void SetRegisterField(PileRegister& pileRegister, int row, int field, std::string text) {
    Check(row, field);
    pileRegister.rows[row][field] = std::move(text);
}

Coordinates RegisterMode(const PileRegister& pileRegister, int row) {
    Check(row, 0);
    return pileRegister.modes[row];
}

void SetRegisterMode(PileRegister& pileRegister, int row, Coordinates mode) {
    Check(row, 0);
    pileRegister.modes[row] = mode;
}

}  // namespace velmora
