#include "tools/velkhost/host_profile.h"

namespace {

constexpr uint32_t Sig(const char (&c)[5])
{
    return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 |
           uint32_t(uint8_t(c[3]));
}

// Field order: name, signature, maxSpace, padding, colour services,
// descriptor parameters, keeps parameters, clears out planes.
const HostProfile kProfiles[] = {
    {"photoshop", Sig("8BIM"), 256 * 1024 * 1024, true, true, false, true, false},
    {"pspihost", Sig("spHO"), 256 * 1024 * 1024, false, true, true, true, false},
    {"gimp", Sig("PMIG"), 100 * 1024 * 1024, false, false, false, false, false},
    // IrfanView states maxSpace in kilobytes.
    {"irfanview", Sig("UP20"), 256 * 1024, false, true, false, false, true},
    {"paintdotnet", Sig("NDP."), 256 * 1024 * 1024, true, true, false, true, false},
};

// A descriptor block as pspiHost hands it out: present, every procedure null.
void* gDescriptorBlock[8] = {};

} // namespace

const HostProfile* FindHostProfile(const std::string& name)
{
    for (const HostProfile& p : kProfiles)
        if (name == p.name)
            return &p;
    return nullptr;
}

const HostProfile& DefaultHostProfile()
{
    return kProfiles[0];
}

void ApplyHostProfile(const HostProfile& profile, FilterRecord* record)
{
    record->hostSig = profile.signature;
    record->maxSpace = profile.maxSpace;
    record->supportsPadding = profile.supportsPadding ? 1 : 0;
    record->descriptorParameters = profile.descriptorParameters ? gDescriptorBlock : nullptr;
    record->sSPBasic = nullptr;
}

void BeforeHostCall(const HostProfile& profile, FilterRecord* record, intptr_t& moduleData)
{
    if (!profile.keepsParameters) {
        record->parameters = nullptr;
        moduleData = 0;
    }
    if (profile.clearsOutPlanes)
        record->outLoPlane = record->outHiPlane = 0;
}
