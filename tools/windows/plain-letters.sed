# Romanian letters with diacritics to plain letters, as the program writes its own texts:
# comma and cedilla forms alike.
s/[ăâ]/a/g
s/[ĂÂ]/A/g
s/î/i/g
s/Î/I/g
s/[șş]/s/g
s/[ȘŞ]/S/g
s/[țţ]/t/g
s/[ȚŢ]/T/g
