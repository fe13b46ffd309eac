; Project files (*.elcarta) open in the installed program, with its icon.
WriteRegStr HKCR ".elcarta" "" "Elcarta.Project"
WriteRegStr HKCR "Elcarta.Project" "" "Elcarta 工程"
WriteRegStr HKCR "Elcarta.Project\DefaultIcon" "" "$INSTDIR\elcarta.exe,0"
WriteRegStr HKCR "Elcarta.Project\shell\open\command" "" '"$INSTDIR\elcarta.exe" "%1"'
System::Call "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"
