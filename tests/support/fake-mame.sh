#!/bin/sh
# A stand-in emulator for tests. It answers the commands Kestrum sends from fixture files, as the
# file "<this script>.conf" beside it says (a shell fragment setting the variables below), and
# records every call in "<this script>.calls".
#   VERSION_LINE   first line of -help                 (default "MAME v0.251 (mame0251)")
#   HELP           "nothing": -help writes nothing
#   LISTXML        a file to print for -listxml         ("" prints nothing)
#   LISTINFO       a file to print for -listinfo
#   LISTDETAILS    a file to print for -listdetails
#   CREATECONFIG   "none": -createconfig creates nothing; else a file copied to ./mame.ini
#   CREATEUI       a file copied to ./ui.ini on -createconfig
#   AFTER_LIST     after printing a list: "fail" exits with status 3, "kill" kills itself with
#                  SIGKILL, "hang" writes its process id to "<this script>.pid" and waits forever
#                  (in a child process, as a real emulator's helpers would); "stubborn" does the
#                  same with SIGTERM ignored
VERSION_LINE='MAME v0.251 (mame0251)'
HELP=''
LISTXML=''
LISTINFO=''
LISTDETAILS=''
CREATECONFIG='none'
CREATEUI=''
AFTER_LIST=''
if [ -f "$0.conf" ]; then
  . "$0.conf"
fi
printf '%s\n' "$*" >> "$0.calls"
case "$1" in
  -help)
    [ "$HELP" = nothing ] && exit 0
    printf '%s\n' "$VERSION_LINE"
    printf 'Copyright Nobody in particular\n'
    ;;
  -listxml) [ -n "$LISTXML" ] && cat "$LISTXML" ;;
  -listinfo) [ -n "$LISTINFO" ] && cat "$LISTINFO" ;;
  -listdetails) [ -n "$LISTDETAILS" ] && cat "$LISTDETAILS" ;;
  -createconfig)
    [ "$CREATECONFIG" != none ] && cp "$CREATECONFIG" ./mame.ini
    [ -n "$CREATEUI" ] && cp "$CREATEUI" ./ui.ini
    ;;
  *) exit 1 ;;
esac
case "$1" in
  -list*)
    case "$AFTER_LIST" in
      fail) exit 3 ;;
      kill) kill -9 $$ ;;
      hang | stubborn)
        [ "$AFTER_LIST" = stubborn ] && trap '' TERM
        printf '%s\n' $$ > "$0.pid"
        sleep 600 &
        wait
        ;;
    esac
    ;;
esac
exit 0
