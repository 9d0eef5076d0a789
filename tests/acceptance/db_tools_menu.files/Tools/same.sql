PROMPT the spool file would overwrite this script
EXIT
