# A program's usage text is one file, src/<part>/usage.txt: the program prints it for --help (through a header made
# from it), and its man page takes its synopsis, description and option sections from it, so that the two cannot
# drift apart. The file is the text as --help prints it:
#   - "Usage: ..." and the lines indented below it to line up are the synopsis;
#   - a line at the left margin that ends in ":" opens a section;
#   - a line indented by two blanks names a command or an option, and the lines indented by six below it say what
#     it does;
#   - any other line at the left margin belongs to a paragraph (the description before the first section).
# Both are made when CMake configures the build, which it does again when the file changes.

# Writes header, which declares `inline constexpr char Tunesmith::<variable>[]` holding the text of usage_file.
function(tunesmith_usage_header usage_file header variable)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${usage_file})
    file(READ ${usage_file} text)
    if(text MATCHES "\\)usage\"")
        message(FATAL_ERROR "${usage_file} holds the end of the raw string that carries it")
    endif()
    file(CONFIGURE OUTPUT ${header} @ONLY CONTENT "#pragma once

// Made by CMake from @usage_file@: edit that file instead.
namespace Tunesmith
{
inline constexpr char @variable@[] = R\"usage(@text@)usage\";
} // namespace Tunesmith
")
endfunction()

# A line in troff: options bold, and in a command or option line (syntax) the command bold too and the words in
# capitals (what the user fills in) in italics. The line comes with the stand-ins of tunesmith_usage_troff.
function(_tunesmith_troff line syntax out)
    set(line " ${line}")
    if(syntax)
        string(REGEX REPLACE "([^A-Za-z0-9_-])([A-Z][A-Z0-9_]+)" "\\1\\\\fI\\2\\\\fR" line "${line}")
        string(REGEX REPLACE "^ ([a-z][-a-z]*)" " \\\\fB\\1\\\\fR" line "${line}")
    endif()
    string(REGEX REPLACE "([ >|(\"'])(--?[a-z][-a-z]*)" "\\1\\\\fB\\2\\\\fR" line "${line}")
    string(SUBSTRING "${line}" 1 -1 line)
    # A line that begins with a control character is kept as text.
    if(line MATCHES "^[.']")
        set(line "\\&${line}")
    endif()
    set(${out} "${line}" PARENT_SCOPE)
endfunction()

# The usage text of usage_file as the sections of a man page, in out_var.
function(tunesmith_usage_troff usage_file out_var)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${usage_file})
    file(READ ${usage_file} text)
    # Stand-ins while the text is a CMake list of lines, whose elements cannot hold ";" or unbalanced brackets.
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE ";" "<semicolon>" text "${text}")
    string(REPLACE "[" "<open>" text "${text}")
    string(REPLACE "]" "<close>" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(troff "")
    set(state start) # start, synopsis, section, item, paragraph or blank: what the line before was
    set(in_section FALSE)
    foreach(line IN LISTS lines)
        if(line MATCHES "^Usage: (.*)$")
            _tunesmith_troff("${CMAKE_MATCH_1}" TRUE formatted)
            string(APPEND troff ".SH SYNOPSIS\n${formatted}\n")
            set(state synopsis)
        elseif(state STREQUAL "synopsis" AND line MATCHES "^       ([^ ].*)$")
            _tunesmith_troff("${CMAKE_MATCH_1}" TRUE formatted)
            string(APPEND troff ".br\n${formatted}\n")
        elseif(line STREQUAL "")
            set(state blank)
        elseif(line MATCHES "^([^ ].*):$")
            string(TOUPPER "${CMAKE_MATCH_1}" heading)
            string(APPEND troff ".SH ${heading}\n")
            set(state section)
            set(in_section TRUE)
        elseif(line MATCHES "^  ([^ ].*)$")
            _tunesmith_troff("${CMAKE_MATCH_1}" TRUE formatted)
            string(APPEND troff ".TP\n${formatted}\n")
            set(state item)
        elseif(state MATCHES "^(item|description)$" AND line MATCHES "^      ([^ ].*)$")
            _tunesmith_troff("${CMAKE_MATCH_1}" FALSE formatted)
            string(APPEND troff "${formatted}\n")
            set(state description)
        elseif(line MATCHES "^[^ ]")
            if(NOT in_section)
                string(APPEND troff ".SH DESCRIPTION\n")
                set(in_section TRUE)
            elseif(NOT state MATCHES "^(section|paragraph)$")
                string(APPEND troff ".PP\n")
            endif()
            _tunesmith_troff("${line}" FALSE formatted)
            string(APPEND troff "${formatted}\n")
            set(state paragraph)
        else()
            message(FATAL_ERROR "${usage_file}: a line of no known form: \"${line}\"")
        endif()
    endforeach()
    # Options are typed: their hyphens are minus signs, not the typographer's hyphens.
    while(troff MATCHES "\\\\fB[^\\\\]*-")
        string(REGEX REPLACE "(\\\\fB[^\\\\-]*)-" "\\1<minus>" troff "${troff}")
    endwhile()
    string(REPLACE "<minus>" "\\-" troff "${troff}")
    string(REPLACE "<semicolon>" ";" troff "${troff}")
    string(REPLACE "<open>" "[" troff "${troff}")
    string(REPLACE "<close>" "]" troff "${troff}")
    string(REGEX REPLACE "\n$" "" troff "${troff}") # the template's line ends it
    set(${out_var} "${troff}" PARENT_SCOPE)
endfunction()
