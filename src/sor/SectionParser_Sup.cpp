#include "sor/SectionParser_Sup.h"

namespace sor {

void SectionParser_Sup::parse()
{
    throwIfParsed();
    SupplierName = scan_string();
    OTDR_Name = scan_string();
    OTDR_SN = scan_string();
    ModuleName = scan_string();
    Module_SN = scan_string();
    SW_Vers = scan_string();
    Other = scan_string();
    parsed = true;
}

std::stringstream SectionParser_Sup::stringstream() const
{
    throwIfNotParsed();
    auto out = dumpHeader();
    out << "SupplierName: " << SupplierName << "\n";
    out << "OTDR_Name: " << OTDR_Name << "\n";
    out << "OTDR_SN: " << OTDR_SN << "\n";
    out << "ModuleName: " << ModuleName << "\n";
    out << "Module_SN: " << Module_SN << "\n";
    out << "SW_Vers: " << SW_Vers << "\n";
    out << "Other: " << Other << "\n";
    return out;
}

} // namespace sor
