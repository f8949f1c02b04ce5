# Counts the requests one program's main thread makes to the Wine server
# until its window of class CLS is shown, from a server log written with
# WINEDEBUG=+server. The window counts as shown at its first position change
# that carries SWP_SHOWWINDOW and is wider than 300 pixels (the top-level
# window, not one of its controls).
#
#   awk -v cls=CLASS -f server_requests.awk LOG LOG
# The log is read twice: first to find the thread that created the window.

function hexdigit(c) { return index("0123456789abcdef", tolower(c)) - 1 }

FNR == 1 { pass++ }

pass == 1 && /create_window\(/ && index($0, "class=L\"" cls "\"") {
  tid = substr($0, 1, index($0, ":") - 1)
}

pass == 2 && tid != "" && !done && substr($0, 1, length(tid) + 2) == tid ": " && !/\(\) = / {
  n++
  if (/ set_window_pos\(/ && match($0, /swp_flags=[0-9a-f]+/)) {
    flags = substr($0, RSTART + 10, RLENGTH - 10)
    showing = int(hexdigit(substr(flags, length(flags) - 1, 1)) / 4) % 2
    if (showing && match($0, /window=\{-?[0-9]+,-?[0-9]+;-?[0-9]+,/)) {
      split(substr($0, RSTART + 8, RLENGTH - 9), xy, /[,;]/)
      if (xy[3] - xy[1] > 300) done = 1
    }
  }
}

END { if (done) print n; else print "?" }
