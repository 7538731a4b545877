// The built-in parameter sets, written with a decimal comma as they were published.
#include "model/sample_sets.hpp"

#include <cctype>

namespace emforce {

const std::array<SampleSet, 17> kSampleSets = {{
    {"Workshop", "Workshop  Problem 34",
     {"0,05", "0,05", "0,001", "0,005", "0,78", "1,0", "350", "100,0", "7,0e6", "1,0e0", "1,0", "1,0", "1,0", "0,05", "0,0667", "40,0", "50,0", "0", "1,0", "0,7854", "2,3562", "0,0", "0,0", "0,0", "0,0"}},
    {"updated_Workshop", "updated Workshop data",
     {"0,05", "0,05", "0,001", "0,005", "1,57079", "1,0", "250", "100,0", "5,0e6", "1,0e0", "1,0", "1,0", "1,0", "0,05", "0,1", "40,0", "50,0", "0", "1,0", "0,7854", "2,3562", "0,0", "0,0", "0,0", "0,0"}},
    {"Orlend", "Orlend 1-phase spherical motor",
     {"0,15", "0,0564", "0,0003", "0,005", "0,78", "1,0", "500", "100,0", "57,0e6", "1,0e0", "1,0", "1,0", "1,0", "1,0", "1,0", "40,0", "50,0", "0", "1,0", "0,3", "1,570796", "0,0", "0,0", "0,0", "0,0"}},
    {"M_Isotropic_LAMBDA_integer", "   isotropic   lambda=int, h = 0",
     {"0,1", "0,1", "0,002", "0,01", "0,2", "1,0471975511", "1000", "1000", "7,0e6", "1,0", "1,0", "1,0", "1,0", "0,1", "0,1", "40,0", "50,0", "0,0", "0,5", "0,7854", "2,3562", "0,0", "0,0", "0,0", "0,0"}},
    {"M_Anisotropic_LAMBDA_integer", "anisotropic  lambda=int/real, h! = 0",
     {"0,3", "0,3", "0,002", "0,1", "0,2", "1,0", "1000", "1000", "7,0e6", "1,0", "0,8", "0,5", "2,0", "1,0", "0,5", "20,0", "50,0", "0,0", "0,5", "0,7854", "2,3562", "0,0", "0,0", "0,0", "0,5"}},
    {"M_Anisotropic_LAMBDA_complex", "anisotropic  lambda=complex, h! = 0",
     {"0,3", "0,3", "0,002", "0,1", "0,2", "1,0", "1000", "1000", "56,0e6", "1,0", "0,95", "0,9", "2,0", "1,0", "1,0", "24,0", "50,0", "0", "0,5", "0,7854", "2,3562", "0,5", "0,0", "0,0", "0,6"}},
    {"M_Spherical_Tessor", "spherical motor of Tessor",
     {"0,0503", "0,0503", "0,0001", "0,0003", "1,57", "1,0471975511", "1000", "1000", "56,0e6", "1,0", "1,0", "1,0", "1,0", "1,0", "1,0", "40,0", "50,0", "0,0", "0,5", "0,01", "3,13", "0,0", "0,0", "0,0", "0,0"}},
    {"Silnik_Synchroniczny_Liniowy", "synchronous motor - linear",
     {"0,12", "0,12", "0,03", "0,01", "2,50", "1,0", "120", "100", "7,0e6", "1,0", "0,8", "0,5", "0,628", "0,1", "0,1", "40,0", "50,0", "0,0", "0,5", "0,9", "0,4", "0,0", "0,0", "0,0", "0,0"}},
    {"Silnik_Synchroniczny_Cylindryczny", "synchronous motor - cylindrical",
     {"0,10", "0,10", "0,01", "0,05", "0,78", "1,0", "150", "100", "7,0e6", "1,0", "0,8", "0,5", "2,0", "0,1", "0,1", "40,0", "50,0", "0,0", "0,5", "0,9", "0,4", "0,0", "0,0", "0,0", "0,0"}},
    {"Silnik_Synchroniczny_Sferyczny", "synchronous motor - spherical",
     {"0,055", "0,055", "0,01", "0,005", "-1,57", "1,0471975511", "200", "700", "7,0e6", "1,0", "0,6", "0,9", "3,0", "0,1", "0,1", "40,0", "50,0", "0,0", "0,5", "0,7854", "2,3562", "0,0", "0,0", "0,0", "0,0"}},
    {"Poynting_Effect_Linear", "Poynting effect - linear motor",
     {"0,11", "0,11", "0,002", "0,01", "0,7", "1,0", "2000", "1500", "5,0e0", "1,0e2", "1,0", "0,7", "1,496", "1,0", "1,0", "0,0", "500,0", "1e10", "0,35", "0,4", "0,9", "0,0", "0,0", "0,0", "0,0"}},
    {"Poynting_Effect_Cylindrical", "Poynting effect - cylindrical motor",
     {"0,10", "0,10", "0,005", "0,05", "0,78", "1,0", "2000", "1500", "3,0e1", "2,0e9", "1,0", "0,5", "1,0", "1,0", "1,0", "0,0", "400,0", "1000,0", "0,4", "0,4", "0,9", "0,0", "0,0", "0,0", "0,0"}},
    {"Poynting_Effect_Spherical", "Poynting effect - spherical motor",
     {"0,12", "0,12", "0,003", "0,01", "0,78", "1,0", "2000", "1500", "1,0e1", "2,0e9", "1,0", "0,5", "1,0", "1,0", "1,0", "0,0", "500,0", "1000,0", "0,4", "0,4", "0,9", "0,0", "0,0", "0,0", "0,0"}},
    {"data1", "Data 1",
     {"0,15", "0,15", "0,005", "0,1", "0,2", "1,0", "1000", "1000", "50,0", "7,0e6", "0,8", "0,5", "1,0", "1,0", "0,7", "45,0", "50,0", "0,0", "0,5", "0,7854", "2,3562", "0,3", "0,5", "0,4", "-0,7"}},
    {"High_frequency_and_anisotropy", "high frequeny and anisotropy",
     {"0,12", "0,12", "0,005", "0,05", "0,78", "1,0", "2148", "000,0", "30,0", "50,0", "1,0", "1,0", "1,0", "1,0", "1,0", "0,0", "1e+08", "0", "1e-07", "0,25", "0,65", "0,7", "0,0", "0,0", "0,0"}},
    {"Impulse_field_fI_not_equals_zero", "Impulse field fI !=0",
     {"0,12", "0,12", "0,005", "0,05", "0,78", "1,0", "2148", "000,0", "3000", "500", "1,0", "1,0", "1,0", "1,0", "1,0", "0,0", "10,0", "100000", "1e-6", "0,7854", "2,3562", "0,0", "0,0", "0,0", "0,0"}},
    {"Impulse_field_fI_not_equals_zero_and_anisotropy", "Impulse field fI!=0 and anisotropy",
     {"0,12", "0,05", "0,005", "0,04", "0,22", "1,0", "2148", "000,0", "300000", "50", "1,0", "1,0", "1,0", "1,0", "1,0", "0,0", "100,0", "400", "0,01", "0,785398", "2,356194", "0,0", "0,0", "0,4", "0,0"}},
}};

void applySampleSet(InputRecord& record, const SampleSet& set) {
    size_t k = 0;
    for (int row = 0; row < kParameterRows; ++row) {
        if (row == kSeparatorRow) continue;
        record.value(row) = std::string(set.values[k++]);
    }
    record.reluctivityTable[1][1] = set.values[k++];
    record.reluctivityTable[1][2] = set.values[k++];
    record.reluctivityTable[2][1] = set.values[k++];
    record.reluctivityTable[2][2] = set.values[k++];
}

namespace {
std::string_view trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool equalLoose(std::string_view a, std::string_view b) {
    a = trimmed(a);
    b = trimmed(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
}  // namespace

std::optional<int> findSampleSet(std::string_view caption) {
    for (size_t i = 0; i < kSampleSets.size(); ++i)
        if (kSampleSets[i].caption == caption) return static_cast<int>(i);
    for (size_t i = 0; i < kSampleSets.size(); ++i)
        if (equalLoose(kSampleSets[i].caption, caption)) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace emforce
