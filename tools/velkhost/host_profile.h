// The records of real hosts: what each puts in the filter record differently
// and what it does between calls, so that the modules can be run as each of
// them runs them. Each difference is one a host's own public source shows.
#pragma once

#include <cstdint>
#include <string>

#include "host/filter_record.h"

struct HostProfile {
    const char* name;
    uint32_t signature;       // hostSig, its four characters first to last
    int32_t maxSpace;         // as the host reports it
    bool supportsPadding;
    bool colourServices;      // false: every call answers "host insufficient"
    bool descriptorParameters; // a descriptor block whose procedures are null
    bool keepsParameters;     // parameters and the entry's data survive calls
    bool clearsOutPlanes;     // out-plane fields are 0 before every call
};

// photoshop (the default), pspihost, gimp, irfanview, paintdotnet; null for
// another name.
const HostProfile* FindHostProfile(const std::string& name);
const HostProfile& DefaultHostProfile();

// "host insufficient": the answer of a host without a service.
constexpr OSErr kHostInsufficient = -30900;

// Sets the profile's fields in a new record.
void ApplyHostProfile(const HostProfile& profile, FilterRecord* record);

// What the host does to the record and the entry's data before each call.
void BeforeHostCall(const HostProfile& profile, FilterRecord* record, intptr_t& moduleData);
