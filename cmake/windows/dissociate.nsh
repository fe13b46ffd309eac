; The uninstalled program no longer opens project files.
DeleteRegKey HKCR "Elcarta.Project"
DeleteRegValue HKCR ".elcarta" ""
DeleteRegKey /ifempty HKCR ".elcarta"
System::Call "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"
