#pragma once

#include "sor/SectionParser.h"

namespace sor {

// SupParams: supplier and instrument of the measurement.
class SectionParser_Sup : public _SectionParser {
public:
    SectionParser_Sup()
        : _SectionParser("SupParams")
    {
    }

    std::string SupplierName;
    std::string OTDR_Name; ///< mainframe name or model
    std::string OTDR_SN;
    std::string ModuleName;
    std::string Module_SN;
    std::string SW_Vers;
    std::string Other;

    void parse();
    std::stringstream stringstream() const override;
};

} // namespace sor
