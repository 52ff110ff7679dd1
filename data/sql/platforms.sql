-- Platforms. The reports group a platform under the first word of its name
-- (Windows, macOS, Android ...) and, when the name ends in '#', also show
-- it with the captured version in place of the '#'. Devices whose agents
-- also name Windows, Android or Linux come first; so do the phone systems
-- that name the desktop system they resemble.

INSERT INTO tblPlatforms (DisplayName, Pattern) VALUES
  -- Game consoles and television devices
  ('Xbox #',                  '*Xbox;+Xbox+#'),
  ('Xbox',                    '*Xbox'),
  ('PlayStation #',           '*PlayStation+#'),
  ('Nintendo #',              '*Nintendo+#'),
  ('Chromecast #',            '*CrKey/#'),
  ('Roku',                    '*Roku'),
  ('webOS TV',                '*Web0S'),
  ('tvOS',                    '*AppleTV'),

  -- Phone and tablet systems
  ('Windows Phone #',         '*Windows+Phone+OS+#'),
  ('Windows Phone #',         '*Windows+Phone+#'),
  ('KaiOS #',                 '*KAIOS/#'),
  ('Tizen #',                 '*Tizen+#'),
  ('Tizen',                   '*Tizen'),
  ('webOS #',                 '*webOS/#'),
  ('webOS #',                 '*hpwOS/#'),
  ('OpenHarmony #',           '*OpenHarmony+#'),
  ('HarmonyOS',               '*HarmonyOS'),
  ('Android #',               '*Android+#'),
  ('Android #',               '*Android/#'),
  ('Android',                 '*Android'),
  ('iPadOS #',                '*iPad;*CPU+OS+#'),
  ('iOS #',                   '*iPhone+OS+#'),
  ('iOS',                     '*iPhone'),
  ('iOS',                     '*iPod'),
  ('iPadOS',                  '*iPad'),
  ('BlackBerry #',            '*(BB#;'),
  ('BlackBerry Tablet OS #',  '*RIM+Tablet+OS+#'),
  ('BlackBerry #',            '*BlackBerry#/#'),
  ('BlackBerry',              '*BlackBerry'),
  ('Symbian S60 #',           '*Series60/#'),
  ('Symbian #',               '*SymbianOS/#'),
  ('Symbian #',               '*Symbian/#'),
  ('Symbian',                 '*SymbOS'),
  ('Palm OS',                 '*PalmOS'),
  ('Palm OS',                 '*PalmSource'),
  ('Java ME',                 '*J2ME'),

  -- ChromeOS names its build after the processor. Searches are blind to
  -- case, so the token is taken with its blank (Microsoft holds "cros").
  ('ChromeOS #',              '*CrOS+x86_64+#'),
  ('ChromeOS #',              '*CrOS+aarch64+#'),
  ('ChromeOS #',              '*CrOS+armv7l+#'),
  ('ChromeOS #',              '*CrOS+i686+#'),
  ('ChromeOS',                '*CrOS+'),

  -- Apple desktop. Agents write the release with underscores (10_15_7) or
  -- dots; '#' stops at an underscore, so 10 is taken as written.
  ('macOS 10.#',              '*Mac+OS+X+10_#'),
  ('macOS 10.#',              '*Mac+OS+X+10.#'),
  ('macOS #',                 '*Mac+OS+X+#'),
  ('macOS',                   '*Mac+OS+X'),
  ('Mac OS Classic #',        '*Mac_#'),
  ('Mac OS Classic',          '*Macintosh'),

  -- Windows: NT releases by their NT version, older ones by name
  ('Windows NT #',            '*Windows+NT+#'),
  ('Windows ME #',            '*Win+9x+#'),
  ('Windows #',               '*Windows+#'),
  ('Windows 9#',              '*Win9#'),
  ('Windows NT #',            '*WinNT#'),
  ('Windows',                 '*WinNT'),
  ('Windows',                 '*Win32'),
  ('Windows',                 '*Win16'),
  ('Windows',                 '*Windows'),

  -- Linux, by distribution where the agent names one, else by processor
  ('Linux Ubuntu #',          '*Ubuntu/#'),
  ('Linux Fedora #',          '*Fedora/#'),
  ('Linux x86_#',             '*Linux+x86_#'),
  ('Linux i#',                '*Linux+i#'),
  ('Linux #',                 '*Linux+#'),
  ('Linux',                   '*Linux'),

  -- Other Unix systems
  ('FreeBSD #',               '*FreeBSD+#'),
  ('FreeBSD',                 '*FreeBSD'),
  ('OpenBSD #',               '*OpenBSD+#'),
  ('OpenBSD',                 '*OpenBSD'),
  ('NetBSD #',                '*NetBSD+#'),
  ('NetBSD',                  '*NetBSD'),
  ('DragonFly BSD',           '*DragonFly'),
  ('SunOS #',                 '*SunOS+#'),
  ('SunOS',                   '*SunOS'),
  ('AIX #',                   '*AIX+#'),
  ('AIX',                     '*AIX'),
  ('HP-UX #',                 '*HP-UX+#'),
  ('HP-UX',                   '*HP-UX'),
  ('IRIX #',                  '*IRIX64+#'),
  ('IRIX #',                  '*IRIX+#'),
  ('IRIX',                    '*IRIX'),
  ('OSF1',                    '*OSF1'),
  ('Unix',                    '*X11'),

  -- Others of the last decades
  ('OS/2 Warp #',             '*Warp+#'),
  ('OS/2',                    '*OS/2'),
  ('BeOS',                    '*BeOS'),
  ('Haiku',                   '*Haiku'),
  ('AmigaOS #',               '*AmigaOS+#'),
  ('AmigaOS',                 '*AmigaOS'),
  ('RISC OS',                 '*RISC+OS');

UPDATE tblPlatforms SET SearchOrder = rowid * 10;
