// Option helpers for the command line: values are decimal numbers only
// (no octal or hexadecimal reading of "010" or "0x10"), and no value may be
// empty.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <string>

// True when text is one or more decimal digits whose value is in min..max.
bool ParseDecimal(const std::string& text, int64_t min, int64_t max, int64_t& value);

// Refuses an empty value ("--fill ''" is not the default fill).
extern const CLI::Validator NonEmpty;

// A whole-number option read with ParseDecimal into target.
template <class T>
CLI::Option* AddDecimalOption(CLI::App* app, const std::string& name, T& target, int64_t min,
                              int64_t max, const std::string& help)
{
    return app
        ->add_option_function<std::string>(
            name,
            [&target, name, min, max](const std::string& text) {
                int64_t value;
                if (!ParseDecimal(text, min, max, value))
                    throw CLI::ValidationError(name, "expected a decimal number " +
                                                         std::to_string(min) + ".." +
                                                         std::to_string(max) + ", got \"" +
                                                         text + "\"");
                target = static_cast<T>(value);
            },
            help)
        ->type_name("N");
}
