# Writes the zorvanctl man page from the program's own --help (PROGRAM), into OUT, so the page
# always lists the commands the program has. Run at build time.
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed (${result})")
endif()
# roff: a backslash is written \e, a line starting with a dot or quote is protected by \&.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(REGEX REPLACE "^Usage: [^\n]*\n" "" help "${help}")
file(WRITE ${OUT} ".TH ZORVANCTL 1 \"\" \"zorvan ${VERSION}\" \"User Commands\"
.SH NAME
zorvanctl \\- configure Zorvan wireless gaming mice from the command line
.SH SYNOPSIS
.B zorvanctl
[\\fIGLOBAL OPTIONS\\fR] \\fICOMMAND\\fR [\\fIARGUMENTS\\fR]
.SH DESCRIPTION
zorvanctl reads and changes the settings of a Zorvan mouse through the same rules as the
zorvan window. Without a mouse, \\fB\\-\\-emulate\\fR lets an emulated mouse stand in.
.PP
.nf
${help}.fi
.SH FILES
.TP
.I ~/.local/share/<appdir>/
the data folder (XDG_DATA_HOME): the local profile store, macros and lang.ini.
.TP
.I /usr/share/zorvan/cfg.ini
the product data: options and the supported models.
")
